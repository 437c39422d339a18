#pragma once
// The loudness of an album: the gating blocks of all its tracks gated together, as one programme
// (as libebur128's ebur128_loudness_global_multiple gates several measurements), not an average
// of the tracks' values. A track's blocks travel among its row's values, so that tracks measured
// in different worker processes make one album.
#include <vector>

#include "engine/RowValues.h"

// blocks: the energies of a track's gating blocks that reach the absolute gate.
void PutLoudnessBlocks(RowValues& values, const std::vector<double>& blocks);
// Leaves the row's other values; the blocks are many and needed only until its album is measured.
void DropLoudnessBlocks(RowValues& values);
// In LUFS; minus infinity when no track has a block above the gates (silence, or too short).
double AlbumLoudness(const std::vector<const RowValues*>& tracks);
