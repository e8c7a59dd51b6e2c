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

// A build whose list holds a name that the ANSI code page cannot spell
// (IDS_LIST_SAVED_AS_UNICODE).
#define QM_TEXT_LIST_SAVED_AS_UNICODE                                          \
    "A file name cannot be spelt in the ANSI code page: the release list was " \
    "saved as Unicode (UTF-16LE), which Windows reads as well."

// A build that found more files than a section holds (IDS_FILES_LEFT_OUT):
// the count, the section, the most entries.
#define QM_TEXT_FILES_LEFT_OUT                                             \
    "%d files of section %s were left out of the release list: a section " \
    "holds %d entries. They show as \"Not listed\"."

// Why a compared file has its status, in the command line's JSON ("cause")
// and the window's row tips and Edit comment (IDS_CAUSE_...).
#define QM_CAUSE_SAME_CONTENT "same content"
#define QM_CAUSE_SAME_CRC "same CRC-32"
#define QM_CAUSE_CONTENT_CHANGED "content changed"
#define QM_CAUSE_CONTENT_CHANGED_SAME_CRC "content changed, CRC-32 equal"
#define QM_CAUSE_BAD_DIGEST "bad digest in list"
#define QM_CAUSE_MISSING "missing"
#define QM_CAUSE_NO_ACCESS "no access"
#define QM_CAUSE_HELD_OPEN "held open by another program"
#define QM_CAUSE_UNREADABLE "unreadable"
#define QM_CAUSE_CHANGED_WHILE_READ "changed while read"
#define QM_CAUSE_SIZE_CHANGED "size changed"
#define QM_CAUSE_FOLDER "a folder"
// With the bound's words (kLargestUnlistedFileWords) after it.
#define QM_CAUSE_TOO_LARGE "not read: larger than"
#define QM_CAUSE_NOT_LISTED "not listed"
