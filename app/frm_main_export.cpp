// Save As: the finished card as a BMP or JPEG picture.
#include "app/frm_main.h"

void Tfrmmain::BitBtn4Click() {}
