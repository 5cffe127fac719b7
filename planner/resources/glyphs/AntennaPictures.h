// The antenna pictures of the wizard's first page, from the program's compiled-in pictures.
#pragma once

#include <QPixmap>

enum class TAntennaPicture {
    SideMountedHighPower,  // UHF medium/high power or VHF high band, on the side of a tower
    TopMounted,            // an antenna on the top of a tower
    SideMountedLowPower,   // UHF low or medium power, on the side of a tower
    OtherMake,             // an antenna of another maker
};

QPixmap AntennaPicture(TAntennaPicture picture, QSize size);
