#include "codecs/ffmpeg/OggStreamPages.h"

#include "codecs/OggEnding.h"

OggStreamPages::OggStreamPages(StreamFile& file, std::string_view signature)
    : file_(file), signature_(signature) {
    ogg_sync_init(&sync_);
    ogg_stream_init(&stream_, 0);
}

OggStreamPages::~OggStreamPages() {
    ogg_stream_clear(&stream_);
    ogg_sync_clear(&sync_);
}

OggStreamPages::Next OggStreamPages::Read() {
    ogg_page page;
    for (long got; (got = OggNextPage(sync_, file_, page)) != 0;) {
        if (got < 0)
            continue;
        const bool begins = ogg_page_bos(&page);
        if (begins && !inHeaders_) // a new link
            chosen_ = false;
        inHeaders_ = begins;
        beginsLink_ = begins && !chosen_ && OggBeginsWith(page, signature_);
        if (beginsLink_) {
            ogg_stream_reset_serialno(&stream_, ogg_page_serialno(&page));
            chosen_ = true;
        }
        if (chosen_ && ogg_page_serialno(&page) == stream_.serialno)
            return TakePage(page) ? Next::Page : Next::Failed;
    }
    return file_.failed ? Next::Failed : Next::End;
}

bool OggStreamPages::TakePage(ogg_page& page) {
    if (ogg_stream_pagein(&stream_, &page) != 0)
        return false;
    packets_.clear();
    ogg_packet packet;
    for (int got; (got = ogg_stream_packetout(&stream_, &packet)) != 0;) {
        if (got < 0) // a page of the stream went missing
            return false;
        packets_.push_back(packet);
    }
    granule_ = ogg_page_granulepos(&page);
    closes_ = ogg_page_eos(&page);
    return true;
}
