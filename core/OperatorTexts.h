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

// DevOverrideEnable = 1 (IDS_DLL_REDIRECTION_ENABLED): every program of the
// machine loads DLLs from a <program>.exe.local beside it.
#define QM_TEXT_DLL_REDIRECTION_ENABLED \
    "DLL redirection is on for every program (DevOverrideEnable = 1)."

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
#define QM_CAUSE_DLL_REDIRECTION "DLL redirection"
#define QM_CAUSE_MANIFEST "manifest"
#define QM_CAUSE_PROGRAM_BY_CONTENT "program file by content"
// With the bound's words (kLargestUnlistedFileWords) after it.
#define QM_CAUSE_TOO_LARGE "not read: larger than"
#define QM_CAUSE_NOT_LISTED "not listed"

// Who signed a file that is not identical, in the command line's events and
// the window's row tips and Edit comment (IDS_SIGNER_...); the first is
// followed by the signer's name.
#define QM_SIGNER_SIGNED_BY "signed by "
#define QM_SIGNER_SIGNED "signed"
#define QM_SIGNER_UNSIGNED "unsigned"
#define QM_SIGNER_BROKEN "signature broken (hash mismatch)"
#define QM_SIGNER_NOT_TRUSTED "not trusted"
#define QM_SIGNER_UNKNOWN "signature unknown"
#define QM_SIGNER_NOT_CHECKED "not checked"
// The state of the release list's signature after a comparison (the window's
// summary; the command line's standard error and list-status). The last four
// are alarms: no verdict of the comparison can be trusted.
#define QM_TEXT_LIST_SIGNED "The release list is signed with the key this installation pins."
#define QM_TEXT_LIST_NOT_SIGNED \
    "The release list is not signed: the next Update Release Data or Add signs it."
#define QM_TEXT_LIST_CHANGED_AFTER_SIGNING \
    "The release list was changed after it was signed: no verdict below can be trusted"
#define QM_TEXT_LIST_OTHER_KEY                                                    \
    "The release list is signed with another key than the one this installation " \
    "pins: no verdict below can be trusted"
#define QM_TEXT_LIST_UNSIGNED_WHILE_PINNED                               \
    "The release list is not signed, although this installation pins a " \
    "signing key: no verdict below can be trusted"
#define QM_TEXT_LIST_MISSING_WHILE_PINNED                                     \
    "The release list is missing, although this installation pins a signing " \
    "key: it is built again only by Update Release Data, behind the password"

// Why a password-guarded write did not sign (and so wrote nothing).
#define QM_TEXT_KEY_PINNED                                                       \
    "This installation pins a signing key: the release list is changed only by " \
    "Update Release Data or Add, behind the password. Nothing was written."
#define QM_TEXT_KEY_DOES_NOT_OPEN                                                \
    "The signing key in qmverify.ini does not open with this password: the "     \
    "settings file was changed. Nothing was written. To start again with a new " \
    "key, remove its section SigningKey; its fingerprint then changes."
#define QM_TEXT_PASSWORD_RECORD_DAMAGED \
    "The password record in qmverify.ini is damaged. Nothing was written."
#define QM_TEXT_LIST_NOT_AS_SIGNED                                             \
    "The release list is not as it was signed: Add would sign those changes. " \
    "Nothing was written; build the list anew with Update Release Data."
#define QM_TEXT_SIGNING_FAILED "The system could not sign the release list. Nothing was written."
#define QM_TEXT_PASSWORD_CHANGED_MEANWHILE \
    "The update password was changed meanwhile. Nothing was written."

// A password-guarded write that made the site's signing key (followed by
// the key's fingerprint, which About shows too).
#define QM_TEXT_KEY_MADE                                                     \
    "A signing key was made for this installation; note its fingerprint in " \
    "the installation record: "

// The site's own password (Settings; qmverify-cli password).
#define QM_TEXT_PASSWORD_CHANGED "The update password was changed."
#define QM_TEXT_KEY_RESEALED "The signing key is sealed under it."
#define QM_TEXT_NEW_PASSWORDS_DIFFER "The two new passwords differ: the password was not changed."
#define QM_TEXT_NEW_PASSWORD_EMPTY "The new password is empty: the password was not changed."
