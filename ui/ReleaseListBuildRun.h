// The release list build as the window runs it, from the Settings dialog's
// "Update Release Data": the wait cursor shows meanwhile, and the window
// keeps answering other programs while the files are read.
#pragma once

#include "core/ReleaseListBuild.h"

// Backs up the release list and writes a new one from both component
// directories, signed with the key of the accepted update password.
qm::BuildResult RunReleaseListBuild(const qm::CUpdateKey* key);
