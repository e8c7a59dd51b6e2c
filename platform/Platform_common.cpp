// The platform in force, shared by both implementations.
#include "platform/Platform.h"

namespace qm {

IPlatform& RealPlatform();  // Platform_win32.cpp or Platform_posix.cpp

namespace {
IPlatform* g_current = nullptr;
}

IPlatform& Platform() { return g_current ? *g_current : RealPlatform(); }

ScopedPlatform::ScopedPlatform(IPlatform& replacement) : m_previous(g_current) {
    g_current = &replacement;
}

ScopedPlatform::~ScopedPlatform() { g_current = m_previous; }

}  // namespace qm
