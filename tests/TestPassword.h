// The password that guards the release data, for the tests and the scripts
// that drive the tool (they read it from here). The program itself keeps
// only a digest of it.
#pragma once

constexpr char kTestPassword[] = "tallowin";
