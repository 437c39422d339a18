#pragma once
// Whether each stream of one codec in an Ogg file arrived whole, from the page that begins it to
// the one that closes it. The Xiph decoding libraries notice a lost page only inside a link: a
// page lost before a link's first audio reads as a stream that starts late, one lost at the end
// as a stream cut short, and either ends quietly. libogg checks each page's checksum, so a
// damaged page shows as a gap in its stream's page numbers. Header only: each module compiles
// its own copy.
#include <ogg/ogg.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string_view>

#include "codecs/StreamFile.h"

// The next whole page of file, or 0 at its end or when reading fails (file.failed); below 0, the
// count of bytes skipped that are no page.
inline long OggNextPage(ogg_sync_state& sync, StreamFile& file, ogg_page& page) {
    for (;;) {
        const long seek = ogg_sync_pageseek(&sync, &page);
        if (seek != 0)
            return seek;
        constexpr long Chunk = 0x10000;
        char* buffer = ogg_sync_buffer(&sync, Chunk);
        const long got = buffer ? file.Read(buffer, Chunk) : -1;
        if (got <= 0) {
            file.failed = file.failed || got < 0;
            return 0;
        }
        ogg_sync_wrote(&sync, got);
    }
}

// Whether page begins a stream whose first packet begins with signature.
inline bool OggBeginsWith(const ogg_page& page, std::string_view signature) {
    return ogg_page_bos(&page) && static_cast<std::size_t>(page.body_len) >= signature.size() &&
           std::memcmp(page.body, signature.data(), signature.size()) == 0;
}

// The links of the file that hold a stream whose first packet begins with signature, when every
// such stream has all its pages in order up to its closing page and the file ends with a whole
// closing page; 0 otherwise.
inline int OggWholeLinks(StreamFile file, std::string_view signature) {
    struct Run {
        bool codec = false;
        bool closed = false;
        long next = 0; // the page number due; 0 for a stream never begun
    };
    // Far more streams in one link than any audio file holds: the table stays small.
    constexpr std::size_t MaxStreams = 1024;
    std::map<int, Run> runs;
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    const std::unique_ptr<ogg_sync_state, int (*)(ogg_sync_state*)> clear(&sync, ogg_sync_clear);
    int links = 0;
    bool inHeaders = false; // in a link's first pages, those that begin its streams
    bool linkCounted = false;
    bool endsClosed = false;
    file.position = 0;
    ogg_page page;
    for (long got; (got = OggNextPage(sync, file, page)) != 0;) {
        endsClosed = got > 0 && ogg_page_eos(&page);
        if (got < 0)
            continue;
        const bool begins = ogg_page_bos(&page);
        if (begins && !inHeaders) { // a new link: the streams of the one before have ended
            std::erase_if(runs, [](const auto& entry) { return entry.second.closed; });
            linkCounted = false;
        }
        inHeaders = begins;
        Run& run = runs[ogg_page_serialno(&page)];
        const long number = ogg_page_pageno(&page);
        if (begins ? run.codec && !run.closed
                   : run.next == 0 || (run.codec && (run.closed || number != run.next)))
            return 0; // a stream begun twice, one whose first page is lost, or a gap in one
        if (begins)
            run.codec = OggBeginsWith(page, signature);
        if (run.codec && begins && !linkCounted)
            ++links, linkCounted = true;
        run.closed = endsClosed;
        run.next = number + 1;
        if (runs.size() > MaxStreams)
            return 0;
    }
    // Bytes left over that make no whole page: the file was cut short, or carries a tail.
    if (file.failed || !endsClosed || sync.fill != sync.returned)
        return 0;
    for (const auto& [serial, run] : runs)
        if (run.codec && !run.closed)
            return 0;
    return links;
}
