#pragma once

#include <QImage>

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "stock/Design.h"

class QPainter;

namespace cardmill {

// The pictures of a design's image elements, each read once: every label draws the very same image, so a PDF
// holds it once.
class DesignPictures {
public:
    DesignPictures() = default;
    // Reads the pictures of both faces. Throws DesignError: a picture missing, unreadable or too large.
    explicit DesignPictures(const Design& design);
    // The picture of element `element` of a face; null when it has none.
    const QImage* picture(bool swl, std::size_t element) const;

private:
    std::map<std::pair<bool, std::size_t>, std::shared_ptr<const QImage>> m_pictures;
};

// The most pixels a design's picture may have.
inline constexpr double kMaxPictureMegapixels = 50;

// Draws a picture in its box as the element fits it; the painter's units are points.
void drawPicture(QPainter& painter, const QImage& picture, const FixedDrawing::Image& image);
// Draws a QR code of `text` filling a square, with a quiet zone, dark modules on white.
void drawQrCode(QPainter& painter, const FixedDrawing::Qr& qr);
// Draws a line or a box.
void drawShape(QPainter& painter, const FixedDrawing::Shape& shape);

} // namespace cardmill
