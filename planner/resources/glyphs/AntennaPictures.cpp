#include "planner/resources/glyphs/AntennaPictures.h"

#include "planner/resources/PlannerPictures.h"

QPixmap AntennaPicture(TAntennaPicture picture, QSize size)
{
    const char* name = "OtherMake";
    switch (picture) {
    case TAntennaPicture::SideMountedHighPower: name = "SideMountedHighPower"; break;
    case TAntennaPicture::TopMounted: name = "TopMounted"; break;
    case TAntennaPicture::SideMountedLowPower: name = "SideMountedLowPower"; break;
    case TAntennaPicture::OtherMake: break;
    }
    const std::unique_ptr<TBitmap> bitmap = LoadPlannerPicture(name);
    if (!bitmap) return {};
    const QImage img = bitmap->ToImage();
    // A smaller place (the last page's) shows the whole picture, its shape kept.
    return QPixmap::fromImage(img.size() == size ? img
                                                 : img.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
