// The design surface: the mover, the picture frames and the text boxes.
#include "app/frm_main.h"

void Tfrmmain::StartDesignSurface() {}

void Tfrmmain::Card_Edit1Click() {}

void Tfrmmain::Shape1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
