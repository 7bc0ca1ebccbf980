#include "ui/NewsBounds.h"

void BoundNews(Rtf::Document &source, bool moreFollows)
{
    static constexpr Rtf::CutMarks marks{
        .cutMark = " […]",
        .omittedMark = "[…] Dalsza część wiadomości została pominięta.",
    };
    Rtf::Shorten(source, NewsViewLimits, marks, moreFollows);
}
