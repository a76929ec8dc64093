#include "card/paper_config.h"

void InitPaperSettings(PaperSettings &paper)
{
    paper.PaperIndex = 0;
    paper.PaperWidth = 210.0;
    paper.PaperLength = 148.0;
    paper.Orientation = 1;
    for (double &margin : paper.Margins)
        margin = 0.0;
    paper.UnitIndex = 0;
    paper.CardWidth = 793;
    paper.CardHeight = 559;
    for (int32_t &reserved : paper.Reserved)
        reserved = 0;
}
