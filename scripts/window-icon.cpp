// Writes the window icon that the game sets on X11 (_NET_WM_ICON) as C++ source: for each PNG
// given, its width, its height and its pixels as 0xAARRGGBB, one unsigned long each, the
// property's own layout. Run by the build on the desktop icons; not part of the game.
#include <png.h>

#include <cstdio>
#include <fstream>
#include <vector>

namespace {

bool AppendPng(const char* path, std::vector<unsigned long>& out) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path))
        return false;
    image.format = PNG_FORMAT_BGRA;  // little-endian bytes of 0xAARRGGBB
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return false;
    out.push_back(image.width);
    out.push_back(image.height);
    for (size_t i = 0; i + 3 < pixels.size(); i += 4)
        out.push_back(pixels[i] | pixels[i + 1] << 8 | pixels[i + 2] << 16 |
                      static_cast<unsigned long>(pixels[i + 3]) << 24);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: window-icon OUT.cpp ICON.png...\n");
        return 2;
    }
    std::vector<unsigned long> data;
    for (int i = 2; i < argc; ++i) {
        if (!AppendPng(argv[i], data)) {
            std::fprintf(stderr, "window-icon: cannot read %s\n", argv[i]);
            return 1;
        }
    }
    std::ofstream out(argv[1]);
    out << "// Made by the build from the desktop icons (scripts/window-icon.cpp).\n"
           "#include <cstddef>\n\n"
           "namespace GameShell::Window {\n\n"
           "extern const unsigned long IconData[] = {";
    for (size_t i = 0; i < data.size(); ++i)
        out << (i % 8 ? " " : "\n    ") << "0x" << std::hex << data[i] << "u,";
    out << std::dec << "\n};\nextern const std::size_t IconDataLength = " << data.size()
        << ";\n\n}  // namespace GameShell::Window\n";
    out.close();
    return out ? 0 : 1;
}
