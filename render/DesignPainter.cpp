#include "render/DesignPainter.h"

#include <QColor>
#include <QImageReader>
#include <QPainter>
#include <QPen>

#include <qrencode.h>

#include <cmath>
#include <memory>

#include "engine/Files.h"
#include "engine/Text.h"

namespace cardmill {

namespace {

std::shared_ptr<const QImage> readPicture(const Design& design, const DesignElement& e, std::size_t index, bool swl)
{
    const auto fail = [&](DesignProblem problem) {
        throw DesignError(design.source, elementRef(e, index, swl), std::move(problem));
    };
    std::filesystem::path path = files::pathFromUtf8(e.file);
    if (path.is_relative())
        path = design.folder / path;
    QImageReader reader(QString::fromStdString(files::utf8Of(path)));
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && double(size.width()) * size.height() > kMaxPictureMegapixels * 1e6)
        fail({DesignProblem::Id::PictureTooLarge,
              {e.file, std::to_string(size.width()), std::to_string(size.height()),
               text::fixed(kMaxPictureMegapixels, 0)}});
    QImage image = reader.read();
    if (image.isNull())
        fail({DesignProblem::Id::PictureUnreadable, {e.file, reader.errorString().toStdString()}});
    return std::make_shared<const QImage>(std::move(image));
}

} // namespace

DesignPictures::DesignPictures(const Design& design)
{
    for (const bool swl : {false, true}) {
        const std::vector<DesignElement>& face = swl ? design.swl : design.qsl;
        for (std::size_t i = 0; i < face.size(); ++i)
            if (face[i].kind == DesignElement::Kind::Image)
                m_pictures[{swl, i}] = readPicture(design, face[i], i, swl);
    }
}

const QImage* DesignPictures::picture(bool swl, std::size_t element) const
{
    const auto it = m_pictures.find({swl, element});
    return it == m_pictures.end() ? nullptr : it->second.get();
}

void drawPicture(QPainter& p, const QImage& picture, const FixedDrawing::Image& image)
{
    const QRectF box(image.x, image.y, image.width, image.height);
    if (picture.width() <= 0 || picture.height() <= 0 || box.isEmpty())
        return;
    // The whole picture is drawn every time (a part of it would be a picture of its own in a PDF): scaled to
    // cover the box and cut at its edges, or to lie within it.
    QRectF target = box;
    if (image.fit != DesignElement::Fit::Stretch) {
        const double sx = box.width() / picture.width(), sy = box.height() / picture.height();
        const double s = image.fit == DesignElement::Fit::Cover ? std::max(sx, sy) : std::min(sx, sy);
        const QSizeF size(picture.width() * s, picture.height() * s);
        target = QRectF(box.center() - QPointF(size.width() / 2, size.height() / 2), size);
    }
    p.save();
    p.setClipRect(box, Qt::IntersectClip);
    p.drawImage(target, picture);
    p.restore();
}

void drawQrCode(QPainter& p, const FixedDrawing::Qr& qr)
{
    if (qr.size <= 0)
        return;
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(QRcode_encodeString8bit(qr.text.c_str(), 0, QR_ECLEVEL_M),
                                                         &QRcode_free);
    if (!code)
        return;               // too long for a QR code: nothing is drawn rather than a wrong one
    constexpr int kQuiet = 4; // modules of white around the code, as readers need
    const int n = code->width;
    const double module = qr.size / (n + 2 * kQuiet);
    p.save();
    p.fillRect(QRectF(qr.x, qr.y, qr.size, qr.size), Qt::white);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const double x0 = qr.x + kQuiet * module, y0 = qr.y + kQuiet * module;
    for (int y = 0; y < n; ++y) {
        // Each run of dark modules in a row as one rectangle.
        for (int x = 0; x < n;) {
            if (!(code->data[y * n + x] & 1)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < n && (code->data[y * n + end] & 1))
                ++end;
            p.drawRect(QRectF(x0 + x * module, y0 + y * module, (end - x) * module, module));
            x = end;
        }
    }
    p.restore();
}

void drawShape(QPainter& p, const FixedDrawing::Shape& s)
{
    p.save();
    if (s.lineWidth > 0)
        p.setPen(QPen(Qt::black, s.lineWidth));
    else
        p.setPen(Qt::NoPen);
    if (s.box) {
        p.setBrush(s.fill.empty() ? QBrush(Qt::NoBrush) : QBrush(QColor(QString::fromStdString(s.fill))));
        p.drawRect(QRectF(QPointF(s.x, s.y), QPointF(s.x2, s.y2)));
    } else if (s.lineWidth > 0) {
        p.drawLine(QLineF(s.x, s.y, s.x2, s.y2));
    }
    p.restore();
}

} // namespace cardmill
