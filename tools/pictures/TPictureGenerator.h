#pragma once

#include <QString>

// Draws the program's default and panel pictures: the icons of "Default Images" (32 x 32,
// written as .ico), the default screen wall, the panel pictures of "Image Control" laid out for
// the zones the controls click and draw in, and the demo floor plan.
class TPictureGenerator
{
public:
    // Writes every picture under `programFolder`; false and `error` when one cannot be written.
    static bool WriteAll(const QString &programFolder, QString &error);
};
