// Saves the whole X screen as a PNG file, for the end-to-end tests' record
// of what the window looked like. Xlib only: the PNG is written with stored
// (uncompressed) deflate blocks, which every viewer reads.
//
//   x_shot FILE.png
//   x_shot --hash WINDOW X Y WIDTH HEIGHT
//
// The second prints a hash of what a part of a window shows, so that a test
// can wait for a control to be painted anew.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::uint32_t Crc(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    static std::uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void Chunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data) {
    Put32(png, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    Put32(png, Crc(body.data(), body.size()));
}

// A zlib stream of stored blocks holding `raw`.
std::vector<std::uint8_t> Stored(const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> out{0x78, 0x01};
    std::uint32_t a = 1, b = 0;
    for (const std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (std::size_t at = 0; at < raw.size() || at == 0;) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        out.push_back(at + n == raw.size() ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(n));
        out.push_back(static_cast<std::uint8_t>(n >> 8));
        out.push_back(static_cast<std::uint8_t>(~n));
        out.push_back(static_cast<std::uint8_t>(~n >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
        if (n == 0) break;
    }
    Put32(out, (b << 16) | a);
    return out;
}

}  // namespace

// FNV-1a of the pixels of a window's part.
int PrintHash(Display* display, char** argv) {
    const Window window = std::strtoul(argv[2], nullptr, 0);
    const int x = std::atoi(argv[3]), y = std::atoi(argv[4]);
    const unsigned width = static_cast<unsigned>(std::atoi(argv[5])), height = static_cast<unsigned>(std::atoi(argv[6]));
    XImage* image = XGetImage(display, window, x, y, width, height, AllPlanes, ZPixmap);
    if (!image) {
        std::fprintf(stderr, "x_shot: the window could not be read\n");
        return 1;
    }
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned row = 0; row < height; ++row) {
        for (unsigned column = 0; column < width; ++column) {
            hash = (hash ^ XGetPixel(image, static_cast<int>(column), static_cast<int>(row))) * 1099511628211ull;
        }
    }
    XDestroyImage(image);
    std::printf("%016llx\n", static_cast<unsigned long long>(hash));
    return 0;
}

int main(int argc, char** argv) {
    const bool hash = argc == 7 && std::string(argv[1]) == "--hash";
    if (argc != 2 && !hash) {
        std::fprintf(stderr, "usage: x_shot FILE.png | x_shot --hash WINDOW X Y WIDTH HEIGHT\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x_shot: no display\n");
        return 1;
    }
    if (hash) {
        const int status = PrintHash(display, argv);
        XCloseDisplay(display);
        return status;
    }
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, root, &attributes);
    XImage* image = XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) {
        std::fprintf(stderr, "x_shot: the screen could not be read\n");
        return 1;
    }
    const int width = attributes.width, height = attributes.height;
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * static_cast<std::size_t>(width)));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            raw.push_back(static_cast<std::uint8_t>((pixel & image->red_mask) >> 16));
            raw.push_back(static_cast<std::uint8_t>((pixel & image->green_mask) >> 8));
            raw.push_back(static_cast<std::uint8_t>(pixel & image->blue_mask));
        }
    }
    XDestroyImage(image);
    XCloseDisplay(display);

    std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    Put32(header, static_cast<std::uint32_t>(width));
    Put32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", Stored(raw));
    Chunk(png, "IEND", {});
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file || std::fwrite(png.data(), 1, png.size(), file) != png.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "x_shot: %s could not be written\n", argv[1]);
        return 1;
    }
    return 0;
}
