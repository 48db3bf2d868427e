#include "tools/icon_render.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace tools {

namespace {

// The 16 colours of the text screen (red, green, blue).
constexpr PaletteColour kScreenColours[16] = {
    {0, 0, 0, 255},     {0, 0, 170, 255},    {0, 170, 0, 255},    {0, 170, 170, 255},
    {170, 0, 0, 255},   {170, 0, 170, 255},  {170, 85, 0, 255},   {170, 170, 170, 255},
    {85, 85, 85, 255},  {85, 85, 255, 255},  {85, 255, 85, 255},  {85, 255, 255, 255},
    {255, 85, 85, 255}, {255, 85, 255, 255}, {255, 255, 85, 255}, {255, 255, 255, 255},
};
constexpr uint8_t kBlack = 0;
constexpr uint8_t kDarkGrey = 8;
constexpr uint8_t kLightMagenta = 13;
constexpr uint8_t kWhite = 15;
constexpr uint8_t kTransparent = 16;

// The area of the diagram shown: x from kLeft, y from kBottom, kSpan wide and high.
constexpr double kLeft = -0.08;
constexpr double kBottom = -0.03;
constexpr double kSpan = 0.9;

struct Point {
    double u, v;  // pixels, from the top left corner
};

double SegmentDistanceSquared(Point p, Point a, Point b) {
    const double du = b.u - a.u;
    const double dv = b.v - a.v;
    const double lengthSquared = du * du + dv * dv;
    double t = 0.0;
    if (lengthSquared > 0.0) {
        t = ((p.u - a.u) * du + (p.v - a.v) * dv) / lengthSquared;
        if (t < 0.0) t = 0.0;
        if (t > 1.0) t = 1.0;
    }
    const double eu = a.u + t * du - p.u;
    const double ev = a.v + t * dv - p.v;
    return eu * eu + ev * ev;
}

// Even-odd rule on the closed polygon.
bool Inside(const std::vector<Point>& polygon, Point p) {
    bool inside = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Point a = polygon[i];
        const Point b = polygon[j];
        if ((a.v > p.v) != (b.v > p.v)) {
            const double cross = a.u + (p.v - a.v) / (b.v - a.v) * (b.u - a.u);
            if (p.u < cross) inside = !inside;
        }
    }
    return inside;
}

// The screen colour nearest to a chromaticity seen at full brightness, among
// white and the colours that are no grey:
// XYZ with Y = 1, linear sRGB scaled so that its largest component is 1, then
// compared after a square root (close to the display's gamma; only exactly
// rounded operations, so every machine picks the same colour).
uint8_t NearestColour(double x, double y) {
    const double X = x / y;
    const double Z = (1.0 - x - y) / y;
    double rgb[3] = {3.2406 * X - 1.5372 - 0.4986 * Z, -0.9689 * X + 1.8758 + 0.0415 * Z,
                     0.0557 * X - 0.2040 + 1.0570 * Z};
    double largest = 0.0;
    for (double& c : rgb) {
        if (c < 0.0) c = 0.0;
        if (c > largest) largest = c;
    }
    for (double& c : rgb) c = std::sqrt(c / largest);
    uint8_t best = 0;
    double bestDistance = 1e9;
    for (uint8_t i = 1; i < 16; ++i) {
        if (i == 7 || i == 8) continue;  // the greys
        const PaletteColour& p = kScreenColours[i];
        const double d[3] = {rgb[0] - p.red / 255.0, rgb[1] - p.green / 255.0,
                             rgb[2] - p.blue / 255.0};
        const double distance = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

}  // namespace

std::vector<Chromaticity> ReadLocus(const std::string& cmfCsvPath) {
    std::ifstream in(cmfCsvPath);
    std::string line;
    std::vector<Chromaticity> locus;
    if (!std::getline(in, line)) return locus;  // the header
    int expected = 380;
    while (std::getline(in, line) && expected <= 700) {
        std::istringstream fields(line);
        std::string nm, xbar, ybar, zbar;
        if (!std::getline(fields, nm, ',') || !std::getline(fields, xbar, ',') ||
            !std::getline(fields, ybar, ',') || !std::getline(fields, zbar, ',')) {
            continue;
        }
        if (std::atoi(nm.c_str()) != expected) continue;
        const double X = std::strtod(xbar.c_str(), nullptr);
        const double Y = std::strtod(ybar.c_str(), nullptr);
        const double Z = std::strtod(zbar.c_str(), nullptr);
        const double sum = X + Y + Z;
        locus.push_back({X / sum, Y / sum});
        ++expected;
    }
    if (expected != 701) locus.clear();
    return locus;
}

std::string PngFileName(int size) {
    return "wellenlaenge_" + std::to_string(size) + ".png";
}

PaletteImage RenderIcon(const std::vector<Chromaticity>& locus, int size) {
    PaletteImage image;
    image.width = size;
    image.height = size;
    image.palette.assign(std::begin(kScreenColours), std::end(kScreenColours));
    image.palette.push_back({0, 0, 0, 0});
    image.pixels.assign(static_cast<size_t>(size) * static_cast<size_t>(size), kTransparent);

    const double n = size;
    const double margin = n / 16.0;
    const double scale = (n - 2.0 * margin) / kSpan;
    auto toPixels = [&](double x, double y) {
        return Point{margin + (x - kLeft) * scale, n - margin - (y - kBottom) * scale};
    };
    std::vector<Point> outline;
    for (const Chromaticity& c : locus) outline.push_back(toPixels(c.x, c.y));
    const Point white = toPixels(1.0 / 3.0, 1.0 / 3.0);

    const double lineHalfWidth = n / 96.0 + 0.5;
    const double dotRadius = n / 40.0 + 0.75;
    const double corner = n / 8.0;
    const double border = n / 64.0;

    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            const Point p{column + 0.5, row + 0.5};
            // The rounded square: distance outside the inner square of the corners.
            const double du = std::fabs(p.u - n / 2.0) - (n / 2.0 - corner);
            const double dv = std::fabs(p.v - n / 2.0) - (n / 2.0 - corner);
            const double ou = du > 0.0 ? du : 0.0;
            const double ov = dv > 0.0 ? dv : 0.0;
            const double edge = ou * ou + ov * ov;
            if (edge > corner * corner) continue;  // transparent
            uint8_t colour = kBlack;
            if (edge > (corner - border) * (corner - border)) colour = kDarkGrey;

            if (!outline.empty()) {
                double nearestLocus = 1e18;
                for (size_t i = 1; i < outline.size(); ++i) {
                    const double d = SegmentDistanceSquared(p, outline[i - 1], outline[i]);
                    if (d < nearestLocus) nearestLocus = d;
                }
                const double purple = SegmentDistanceSquared(p, outline.back(), outline.front());
                const double limit = lineHalfWidth * lineHalfWidth;
                const double du2 = p.u - white.u;
                const double dv2 = p.v - white.v;
                if (du2 * du2 + dv2 * dv2 <= dotRadius * dotRadius) {
                    colour = kBlack;
                } else if (nearestLocus <= limit) {
                    colour = kWhite;
                } else if (purple <= limit) {
                    colour = kLightMagenta;
                } else if (Inside(outline, p)) {
                    const double x = (p.u - margin) / scale + kLeft;
                    const double y = (n - margin - p.v) / scale + kBottom;
                    colour = NearestColour(x, y);
                }
            }
            image.pixels[static_cast<size_t>(row) * static_cast<size_t>(size) +
                         static_cast<size_t>(column)] = colour;
        }
    }
    return image;
}

std::vector<std::pair<std::string, std::string>> IconFiles(const std::vector<Chromaticity>& locus) {
    std::map<int, std::string> pngOfSize;
    auto png = [&](int size) -> const std::string& {
        auto [at, made] = pngOfSize.try_emplace(size);
        if (made) at->second = EncodePng(RenderIcon(locus, size));
        return at->second;
    };
    std::vector<std::pair<std::string, std::string>> files;
    for (const int size : kPngSizes) files.emplace_back(PngFileName(size), png(size));
    std::vector<std::string> icoImages;
    for (const int size : kIcoSizes) icoImages.push_back(png(size));
    files.emplace_back(kIcoFileName, EncodeIco(icoImages, kIcoSizes));
    return files;
}

}  // namespace tools
