#pragma once

#include <QPoint>
#include <QString>

class QPainter;

// A control's label: black text inside a white outline one pixel wide, so it reads on dark and
// light backgrounds alike. It is drawn once into a picture kept by font and text, and a repaint
// only lays that picture down.
namespace TOutlinedLabel
{
// The label with its text's top left corner at `at`, in the painter's font.
void Draw(QPainter &painter, QPoint at, const QString &text);
// The label centred in a row `rowWidth` wide from the left of the painter (its text's width and
// a pixel each side), its top at `top`; at the left when the row is narrower.
void DrawCentred(QPainter &painter, int rowWidth, int top, const QString &text);
// The width of the text in the painter's font, in whole pixels as the font's metrics give it:
// taken from the label's picture, which is made now if it is not kept (to be drawn next).
int Width(QPainter &painter, const QString &text);
// The same drawn in ten passes of the text (nine white around, one black): for painters a
// picture cannot stand in for exactly (scaled, see-through, at a fractional pixel ratio).
void DrawInPasses(QPainter &painter, QPoint at, const QString &text);
// Lets go of the labels kept (screens closed: those still shown draw theirs again).
void Forget();
// The bytes of the label pictures kept, and how many there are.
qsizetype KeptBytes();
qsizetype KeptCount();
} // namespace TOutlinedLabel
