// New: a card made from a template.
#include "app/frm_main.h"

void Tfrmmain::BitBtn1Click() {}
