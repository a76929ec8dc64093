// Open, Save, Exit, Help and the save question on closing.
#include "app/frm_main.h"

void Tfrmmain::BitBtn2Click() {}

void Tfrmmain::BitBtn3Click() {}

void Tfrmmain::BitBtn7Click() {}

void Tfrmmain::BitBtn8Click() {}

void Tfrmmain::FormClose() {}
