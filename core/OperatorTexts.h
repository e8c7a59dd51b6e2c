// The texts that both the window and the command line show the operator, in
// one place: the window's string table (res/qmverify.rc, through the
// resource compiler's preprocessor) and the command line read these macros,
// so that the two can never drift apart. Plain string literals, without
// quotes inside, as a resource script and C++ both take them.
#pragma once

// The status of a compared file (the Status column).
#define QM_TEXT_IDENTICAL "Identical"
#define QM_TEXT_NOT_IDENTICAL "Not identical"
#define QM_TEXT_UPDATED "Updated"
#define QM_TEXT_NOT_LISTED "Not listed"

// The notice before a comparison builds the missing release list
// (IDS_NO_RELEASE_LIST).
#define QM_TEXT_NO_RELEASE_LIST                                               \
    "No release file found. The list for this release will be created now.\n" \
    "Please wait, this can take up to a minute."

// The question before the release list is built anew (IDS_CONFIRM_UPDATE).
#define QM_TEXT_CONFIRM_UPDATE "Update the release list now ?"

// A password that is not the update password (IDS_WRONG_PASSWORD).
#define QM_TEXT_WRONG_PASSWORD "The entered password is not valid !"
