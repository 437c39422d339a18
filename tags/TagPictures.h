#pragma once
// Pictures on their way between the formats' own records and the carried ones. A carried
// picture's type was bounded when it was read.
#include <memory>
#include <vector>

#include <taglib/attachedpictureframe.h>
#include <taglib/flacpicture.h>
#include <taglib/tlist.h>

#include "tags/AudioTags.h"

// Adds picture unless it is empty or too large, or the pictures already carried reach a limit.
void CarryPicture(std::vector<AudioTags::Picture>& pictures, AudioTags::Picture picture);
void CarryPictures(std::vector<AudioTags::Picture>& pictures,
                   const TagLib::List<TagLib::FLAC::Picture*>& list);

// Each format's picture taken as it is; the type becomes a number right away, since a hostile
// file may hold one the enumeration does not.
AudioTags::Picture PictureOf(const TagLib::ID3v2::AttachedPictureFrame& frame);
AudioTags::Picture PictureOf(const TagLib::FLAC::Picture& picture);

std::unique_ptr<TagLib::ID3v2::AttachedPictureFrame> ApicFrameOf(const AudioTags::Picture& picture);
// The owner of the picture (a file or a comment) takes it over.
TagLib::FLAC::Picture* FlacPictureOf(const AudioTags::Picture& picture);
