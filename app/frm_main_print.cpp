// Paper Set and Print.
#include "app/frm_main.h"

void Tfrmmain::BitBtn5Click() {}

void Tfrmmain::BitBtn6Click() {}
