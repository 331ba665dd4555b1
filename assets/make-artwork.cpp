// SPDX-License-Identifier: MIT
// Draws Tapelark's own pictures: the program icon (PNG and a Windows .ico with
// a 2-colour and a 16-colour 32 x 32 image), the icon in the sizes a Linux
// desktop's icon theme looks for (icons/NxN.png), the 48 x 48 logo and the
// 14 x 14 Save picture. Run through make-artwork.sh; the results are committed.
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

// The cassette: body, label, two reels and the tape window between them.
void DrawCassette(QPainter& p, QRectF r, QColor body, QColor label) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(body);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    QRectF lab = r.adjusted(r.width() * 0.12, r.height() * 0.14, -r.width() * 0.12, -r.height() * 0.36);
    p.setBrush(label);
    p.drawRect(lab);
    const double reel = r.height() * 0.22;
    const double cy = lab.center().y() + r.height() * 0.04;
    p.setBrush(Qt::black);
    p.drawRect(QRectF(lab.left() + lab.width() * 0.30, cy - reel * 0.4, lab.width() * 0.40, reel * 0.8));
    p.setBrush(Qt::white);
    for (double cx : {lab.left() + lab.width() * 0.22, lab.right() - lab.width() * 0.22})
        p.drawEllipse(QPointF(cx, cy), reel * 0.5, reel * 0.5);
    p.setBrush(body.darker(140));
    QPainterPath foot;
    foot.moveTo(r.left() + r.width() * 0.25, r.bottom());
    foot.lineTo(r.left() + r.width() * 0.32, r.bottom() - r.height() * 0.22);
    foot.lineTo(r.right() - r.width() * 0.32, r.bottom() - r.height() * 0.22);
    foot.lineTo(r.right() - r.width() * 0.25, r.bottom());
    foot.closeSubpath();
    p.drawPath(foot);
}

QImage Icon() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    DrawCassette(p, QRectF(1, 6, 30, 21), QColor(0xFF, 0x00, 0x00), QColor(0xFF, 0xFF, 0x00));
    return image;
}

// The same cassette at another size: drawn on the 32 x 32 grid, scaled and
// smoothed, so every size shows the same picture.
QImage IconAt(int size) {
    if (size == 32) return Icon();
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    DrawCassette(p, QRectF(1, 6, 30, 21), QColor(0xFF, 0x00, 0x00), QColor(0xFF, 0xFF, 0x00));
    return image;
}

QImage Logo() {
    // Only the top-left 44 x 31 shows in the window; the rest is a quiet margin.
    QImage image(48, 48, QImage::Format_ARGB32);
    image.fill(QColor(0x00, 0x00, 0x00));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawCassette(p, QRectF(1, 1, 42, 29), QColor(0xC0, 0xC0, 0xFF), QColor(0xFF, 0xFF, 0xC0));
    p.setPen(QColor(0x80, 0x80, 0xFF));
    p.drawLine(0, 40, 47, 40);
    return image;
}

QImage SavePicture() {
    // A floppy disk: body, shutter and label.
    QImage image(14, 14, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x20, 0x60));
    p.drawRect(0, 0, 14, 14);
    p.setBrush(QColor(0xE0, 0xE0, 0xE0));
    p.drawRect(3, 0, 8, 5);
    p.setBrush(QColor(0x20, 0x20, 0x60));
    p.drawRect(8, 1, 2, 3);
    p.setBrush(Qt::white);
    p.drawRect(2, 7, 10, 6);
    p.setBrush(QColor(0xFF, 0x00, 0x00));
    p.drawRect(3, 9, 8, 1);
    return image;
}

// The 16 colours every Windows display has.
const QRgb kVga[16] = {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080,
                       0xFF008080, 0xFFC0C0C0, 0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00,
                       0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};

int Nearest(QRgb c, int colours) {
    if (colours == 2) return qGray(c) >= 128 ? 1 : 0;
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 16; ++i) {
        long dr = qRed(c) - qRed(kVga[i]), dg = qGreen(c) - qGreen(kVga[i]), db = qBlue(c) - qBlue(kVga[i]);
        long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) best = i, bestDistance = d;
    }
    return best;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) { out.push_back(v & 0xFF), out.push_back(v >> 8); }
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) { Put16(out, v & 0xFFFF), Put16(out, v >> 16); }

// One icon image: BITMAPINFOHEADER, palette, colour rows and mask rows, bottom-up.
std::vector<std::uint8_t> IconImage(const QImage& image, int bits) {
    const int colours = 1 << bits, size = 32;
    const int colourRow = ((size * bits + 31) / 32) * 4, maskRow = ((size + 31) / 32) * 4;
    std::vector<std::uint8_t> out;
    Put32(out, 40), Put32(out, size), Put32(out, size * 2), Put16(out, 1), Put16(out, bits);
    Put32(out, 0), Put32(out, (colourRow + maskRow) * size), Put32(out, 0), Put32(out, 0);
    Put32(out, colours), Put32(out, 0);
    for (int i = 0; i < colours; ++i) {
        QRgb c = colours == 2 ? (i ? 0xFFFFFFFF : 0xFF000000) : kVga[i];
        out.push_back(qBlue(c)), out.push_back(qGreen(c)), out.push_back(qRed(c)), out.push_back(0);
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(colourRow, 0);
        for (int x = 0; x < size; ++x) {
            QRgb c = image.pixel(x, y);
            int index = qAlpha(c) < 128 ? 0 : Nearest(c, colours);
            int bit = x * bits;
            row[bit / 8] |= index << (8 - bits - bit % 8);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskRow, 0);
        for (int x = 0; x < size; ++x)
            if (qAlpha(image.pixel(x, y)) < 128) row[x / 8] |= 0x80 >> (x % 8);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool WriteIco(const QImage& image, const char* path) {
    const std::vector<std::uint8_t> images[2] = {IconImage(image, 1), IconImage(image, 4)};
    std::vector<std::uint8_t> out;
    Put16(out, 0), Put16(out, 1), Put16(out, 2);
    std::uint32_t offset = 6 + 16 * 2;
    for (int i = 0; i < 2; ++i) {
        out.push_back(32), out.push_back(32), out.push_back(i == 0 ? 2 : 16), out.push_back(0);
        Put16(out, 1), Put16(out, i == 0 ? 1 : 4);
        Put32(out, static_cast<std::uint32_t>(images[i].size())), Put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& img : images) out.insert(out.end(), img.begin(), img.end());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QImage icon = Icon(), logo = Logo(), save = SavePicture();
    bool ok = icon.save("tapelark.png") && logo.save("logo.png") && save.save("save.png") &&
              logo.convertToFormat(QImage::Format_RGB32).save("logo.bmp") &&
              save.convertToFormat(QImage::Format_RGB32).save("save.bmp") &&
              WriteIco(icon, "tapelark.ico");
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        ok = ok && IconAt(size).save(QStringLiteral("icons/%1x%1.png").arg(size));
    if (!ok) std::fprintf(stderr, "could not write the pictures\n");
    return ok ? 0 : 1;
}
