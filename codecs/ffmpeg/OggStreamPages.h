#pragma once
// The pages of one codec's stream in an Ogg file, link after link: in each link, the first
// stream whose first packet begins with the codec's signature (as the Xiph.Org reading libraries
// choose it); the pages of other streams are passed over.
#include <ogg/ogg.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "codecs/StreamFile.h"

class OggStreamPages {
public:
    OggStreamPages(StreamFile& file, std::string_view signature);
    ~OggStreamPages();
    OggStreamPages(const OggStreamPages&) = delete;
    OggStreamPages& operator=(const OggStreamPages&) = delete;

    enum class Next { Page, End, Failed };
    // Reads the chosen stream's next page; Failed when the file could not be read or the stream
    // lost data within.
    Next Read();

    // Of the page read: whether it begins a link's stream, the packets it completes (valid until
    // the next Read), its granule position (-1 when no packet ends on it) and whether it closes
    // the stream.
    bool BeginsLink() const { return beginsLink_; }
    const std::vector<ogg_packet>& Packets() const { return packets_; }
    int64_t Granule() const { return granule_; }
    bool Closes() const { return closes_; }

private:
    bool TakePage(ogg_page& page);

    StreamFile& file_;
    std::string_view signature_;
    ogg_sync_state sync_{};
    ogg_stream_state stream_{};
    bool inHeaders_ = false; // among the pages that begin a link's streams
    bool chosen_ = false;    // a stream was chosen in the current link
    bool beginsLink_ = false;
    std::vector<ogg_packet> packets_;
    int64_t granule_ = -1;
    bool closes_ = false;
};
