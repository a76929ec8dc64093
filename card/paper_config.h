#pragma once
#include "card/card_layout.h"

// Sets every named field of `paper` to its default (a 210 x 148 mm landscape
// sheet, 793 x 559 card pixels); the padding bytes are left as they are.
void InitPaperSettings(PaperSettings &paper);
