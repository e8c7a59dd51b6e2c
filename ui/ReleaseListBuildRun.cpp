#include "ui/ReleaseListBuildRun.h"

#include "ui/AppServices.h"
#include "ui/KeepAlive.h"

qm::BuildResult RunReleaseListBuild(const qm::CUpdateKey* key) {
    qm::CReleaseListBuild build(ShowWaitCursor, KeepAliveAtPace(), KeepAlive);
    return build.BuildReleaseList(key);
}
