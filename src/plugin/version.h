// The release's version. The module's name string and the release archive's name both take it
// from here (scripts/release.sh reads the line below), so the two cannot disagree.
#pragma once

#define QV_VERSION "0.2"
