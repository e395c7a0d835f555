// Packing and unpacking the skin file with zlib, with a cap on the unpacked size.
#include "brand/brand_skin.h"

#include "util/errors.h"

#include <cstdint>

#include <zlib.h>

namespace lintrel {

std::string compressSkin(std::string_view qss)
{
    if (qss.size() > kMaxSkinBytes)
        throw Error("The style sheet is larger than 4 MiB and cannot be used as a skin.");
    uLongf size = compressBound(static_cast<uLong>(qss.size()));
    std::string out(size, '\0');
    const int rc = compress2(reinterpret_cast<Bytef *>(out.data()), &size,
                             reinterpret_cast<const Bytef *>(qss.data()),
                             static_cast<uLong>(qss.size()), Z_BEST_COMPRESSION);
    if (rc != Z_OK)
        throw Error("The skin could not be compressed.");
    out.resize(size);
    return out;
}

std::optional<std::string> decompressSkin(std::string_view bytes)
{
    if (bytes.size() > UINT32_MAX)
        return std::nullopt;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return std::nullopt;
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.data()));
    zs.avail_in = static_cast<uInt>(bytes.size());
    std::string out;
    char chunk[16384];
    int rc = Z_OK;
    while (rc == Z_OK) {
        zs.next_out = reinterpret_cast<Bytef *>(chunk);
        zs.avail_out = sizeof chunk;
        rc = inflate(&zs, Z_NO_FLUSH);
        const std::size_t produced = sizeof chunk - zs.avail_out;
        if (out.size() + produced > kMaxSkinBytes) {
            rc = Z_MEM_ERROR;
            break;
        }
        out.append(chunk, produced);
    }
    const bool complete = rc == Z_STREAM_END && zs.avail_in == 0;
    inflateEnd(&zs);
    if (!complete)
        return std::nullopt;
    return out;
}

} // namespace lintrel
