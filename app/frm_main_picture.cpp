// Change picture: the user's own picture in the first picture frame.
#include "app/frm_main.h"

void Tfrmmain::SpeedButton1Click() {}
