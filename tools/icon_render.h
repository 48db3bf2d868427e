// The program's icon: the CIE 1931 chromaticity diagram, drawn in the 16
// colours of the text screen. The spectral locus from 380 to 700 nm is a white
// line, the purple line between its ends is light magenta, the area inside is
// filled with the palette colour nearest to each chromaticity, and the white
// point E (1/3, 1/3) is a black dot; all on a black rounded square.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/png_encoder.h"

namespace tools {

struct Chromaticity {
    double x, y;
};

// The spectral locus from 380 to 700 nm at 1 nm steps, from a colour matching
// function table "nm,xbar,ybar,zbar" (one header line). Empty when the file
// cannot be read or lacks a wavelength.
std::vector<Chromaticity> ReadLocus(const std::string& cmfCsvPath);

// The icon at `size` x `size` pixels: palette indices 0-15 are the text
// screen's colours, 16 is transparent.
PaletteImage RenderIcon(const std::vector<Chromaticity>& locus, int size);

// The sizes installed as PNG files, and the sizes in the Windows icon.
inline const std::vector<int> kPngSizes = {48, 64, 128, 256};
inline const std::vector<int> kIcoSizes = {16, 32, 48, 256};

// The file names the tool writes and the project keeps.
std::string PngFileName(int size);  // "wellenlaenge_<size>.png"
inline const char* const kIcoFileName = "wellenlaenge.ico";

// Every file the tool writes, as (file name, bytes): the PNG files in the order
// of kPngSizes, then the Windows icon. Each size is drawn once.
std::vector<std::pair<std::string, std::string>> IconFiles(const std::vector<Chromaticity>& locus);

}  // namespace tools
