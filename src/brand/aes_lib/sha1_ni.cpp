// SHA-1 compression with the SHA extensions, for one or two independent streams.
#include "brand/aes_lib/sha1.h"

#include "brand/aes_lib/sha1_ni_lanes.h"

#define LINTREL_SHA_TARGET __attribute__((target("sha,sse4.1")))

namespace lintrel::aes_lib::detail {

LINTREL_SHA_TARGET void sha1CompressNi(Sha1ChainingValue &h, const std::uint8_t *blocks,
                                       std::size_t nblocks)
{
    Lane lanes[1];
    loadLane(lanes[0], h);
    for (std::size_t b = 0; b < nblocks; ++b) {
        const std::uint8_t *const blk[1] = {blocks + Sha1BlockSize * b};
        compressLanes(lanes, blk);
    }
    storeLane(lanes[0], h);
    wipeLanes(lanes);
}

LINTREL_SHA_TARGET void sha1CompressPairNi(Sha1ChainingValue &h1, const std::uint8_t *block1,
                                           Sha1ChainingValue &h2, const std::uint8_t *block2)
{
    Lane lanes[2];
    loadLane(lanes[0], h1);
    loadLane(lanes[1], h2);
    const std::uint8_t *const blk[2] = {block1, block2};
    compressLanes(lanes, blk);
    storeLane(lanes[0], h1);
    storeLane(lanes[1], h2);
    wipeLanes(lanes);
}

} // namespace lintrel::aes_lib::detail
