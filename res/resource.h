// Resource identifiers of qmverify: dialog templates, controls, icons, the
// bitmap and the string table. Shared by res/qmverify.rc and the window code.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_QMVERIFY_DIALOG 102
#define IDD_COMMENT 137
#define IDD_SETTINGS 138
#define IDD_PASSWORD 139
#define IDD_CHANGE_PASSWORD 143

// Icons and the bitmap
#define IDR_MAINFRAME 128      // application icon: white check mark on a green disc
#define IDI_IDENTICAL 129      // status image: green check mark
#define IDI_SETTINGS 131       // Settings button: panel with a yellow burst
#define IDI_EXIT 133           // Exit button: computer screen
#define IDB_LOGO 134           // About button and About box: the maker's logo, 85 x 41
#define IDI_NOT_IDENTICAL 135  // status image: red disc with a white cross
#define IDI_UPDATED 136        // status image: dark red exclamation mark
#define IDI_COMPARE 140        // Compare button: two documents joined by a magnifier
#define IDB_LOGO_2X 141        // the logo at twice the size, 170 x 82, for scales above 100 %
#define IDI_NOT_LISTED 142     // status image: white question mark on an amber disc

// System menu command
#define IDM_ABOUTBOX 0x0010

// Strings
#define IDS_ABOUTBOX 101
#define IDS_COL_FILENAME 102
#define IDS_COL_CRC_CURRENT 103
#define IDS_COL_DATE_CURRENT 104
#define IDS_COL_CRC_RELEASE 105
#define IDS_COL_DATE_RELEASE 106
#define IDS_COL_COMMENT 107
#define IDS_COL_STATUS 108
#define IDS_IDENTICAL 109
#define IDS_NOT_IDENTICAL 110
#define IDS_UPDATED 111
#define IDS_ERROR 112
#define IDS_WRONG_PASSWORD 113
#define IDS_CONFIRM_CAPTION 114
#define IDS_CONFIRM_UPDATE 115
#define IDS_MAIN_TITLE 116
#define IDS_NO_RELEASE_LIST 117
// Messages of our own for failures the operator must know of (from
// IDS_COMMENT_WRITE_FAILED on).
#define IDS_COMMENT_WRITE_FAILED 118
#define IDS_ENTRY_CHANGED 119
#define IDS_BACKUP_FAILED 120
#define IDS_SETTINGS_WRITE_FAILED 121
#define IDS_ADD_FAILED 122
#define IDS_BUILD_WRITE_FAILED 123
// The result group box while a comparison runs (%d of %d files, %s of %s MB).
#define IDS_COMPARE_PROGRESS 124
#define IDS_NOTHING_FOUND 125
#define IDS_UNREADABLE_FILES 126
#define IDS_UNREADABLE_MORE 127
#define IDS_LIST_BUSY 128
#define IDS_NEEDS_ADMIN 129
#define IDS_NOT_BARE_NAME 130
#define IDS_LIST_UNREADABLE 131
#define IDS_SYSTEM_REASON 132
#define IDS_NAME_UNSTORABLE 133
// A program file that no entry names, and what a run found (after it ends).
#define IDS_NOT_LISTED 134
#define IDS_COMPARE_SUMMARY 135
#define IDS_SUMMARY_CRAFTED 136
#define IDS_SUMMARY_CRC_ONLY 137
#define IDS_NOT_LISTED_ROW 138
#define IDS_LIST_NO_ENTRY 139
#define IDS_LIST_UNREACHED 140
#define IDS_CHANGED_WHILE_READ 141
// A second start, elevated, while the running window is not.
#define IDS_RUNNING_NOT_ELEVATED 142
// A file whose own state refuses a change, and a list too large to read.
#define IDS_FILE_READ_ONLY 143  // %s: the file
#define IDS_FILE_TOO_LARGE 144  // %s: the file, %s: the limit
#define IDS_NO_FREE_NAME 145    // %s: the folder, %s: the files in the way
#define IDS_LOCK_HOLDER 146     // %s: who holds the writer lock
#define IDS_LIST_NOT_UNDERSTOOD 147
#define IDS_LIST_TOO_LARGE 148  // %s: the list, %s: the limit
#define IDS_LIST_UNPLACED 149   // %d: the lines, %d: the first of them
#define IDS_UNSEARCHED 150      // %s: the directory, %s: the system's reason
// The entries of the Settings dialog's directory list, in the order of their
// sections: index 0 is "qmw", 1 is "db1".
#define IDS_DIRECTORY_QMW 151
#define IDS_DIRECTORY_DB1 152
// %d: entries checked by CRC-32 only, after IDS_SUMMARY_CRAFTED
#define IDS_SUMMARY_CRC_ONLY_SHORT 153
// A run as it goes and as it ends: %d files done, %d in all, and for a
// comparison %s MB read of %s MB (IDS_COMPARE_PROGRESS_FILES where the
// directories tell no sizes).
#define IDS_RECORD_PROGRESS 154
#define IDS_COMPARE_PROGRESS_FILES 155
#define IDS_COMPARE_STOPPED 156  // %d of %d files compared
#define IDS_BUILD_STOPPED 157
#define IDS_BUILD_DONE 158        // %d files, %s the backup's name
#define IDS_BUILD_DONE_FIRST 159  // %d files (no list before)
// The Compare button's caption while no run goes on, and while one does.
#define IDS_COMPARE_BUTTON 160
#define IDS_STOP_BUTTON 161
// Files that could not be read, by cause, after a comparison (%s: the counts).
#define IDS_SUMMARY_UNREAD 162
#define IDS_STATUS_WITH_CAUSE 163  // %s: the status, %s: the cause
// Why a compared file has its status, as the row tips and Edit comment say it.
#define IDS_CAUSE_SAME_CONTENT 164
#define IDS_CAUSE_SAME_CRC 165
#define IDS_CAUSE_CONTENT_CHANGED 166
#define IDS_CAUSE_CONTENT_CHANGED_SAME_CRC 167
#define IDS_CAUSE_BAD_DIGEST 168
#define IDS_CAUSE_MISSING 169
#define IDS_CAUSE_NO_ACCESS 170
#define IDS_CAUSE_HELD_OPEN 171
#define IDS_CAUSE_UNREADABLE 172
#define IDS_CAUSE_CHANGED_WHILE_READ 173
#define IDS_CAUSE_NOT_LISTED 174
// No list, and no right to make one: said once instead of the notice.
#define IDS_LIST_NEEDS_ADMIN 175
// A second start that cannot look into the running copy's process.
#define IDS_RUNNING_OTHER_ACCOUNT 176
// A write refused although qmverify runs as administrator (%s: the file,
// %s: the system's reason).
#define IDS_WRITE_REFUSED 177
// Add or Edit comment could not read the release list (then IDS_SYSTEM_REASON).
#define IDS_LIST_READ_FAILED 178
// The state of the release list's signature after a comparison, on the line
// above the rows; the last four are alarms, shown in the warning colour.
#define IDS_LIST_SIGNED 179
#define IDS_LIST_NOT_SIGNED 180
#define IDS_LIST_CHANGED_AFTER_SIGNING 181
#define IDS_LIST_OTHER_KEY 182
#define IDS_LIST_UNSIGNED_WHILE_PINNED 183
#define IDS_LIST_MISSING_WHILE_PINNED 184
// Who signed a file that is not identical, after its status and cause in
// the row's tip and Edit comment (IDS_STATUS_WITH_SIGNER: %s the status and
// cause, %s the signer); IDS_SIGNER_SIGNED_BY is followed by the name.
#define IDS_SIGNER_SIGNED_BY 185
#define IDS_SIGNER_SIGNED 186
#define IDS_SIGNER_UNSIGNED 187
#define IDS_SIGNER_BROKEN 188
#define IDS_SIGNER_NOT_TRUSTED 189
#define IDS_SIGNER_UNKNOWN 190
#define IDS_STATUS_WITH_SIGNER 191
// Why a password-guarded write did not sign, and so wrote nothing.
#define IDS_KEY_PINNED 192
#define IDS_KEY_DOES_NOT_OPEN 193
#define IDS_PASSWORD_RECORD_DAMAGED 194
#define IDS_LIST_NOT_AS_SIGNED 195
#define IDS_SIGNING_FAILED 196
#define IDS_PASSWORD_CHANGED_MEANWHILE 197
// The site's signing key made by a write: its fingerprint follows.
#define IDS_KEY_MADE 198
// Change Password: done (IDS_KEY_RESEALED after it when the key was sealed
// anew), or refused before anything was written.
#define IDS_PASSWORD_CHANGED 199
#define IDS_KEY_RESEALED 200
#define IDS_NEW_PASSWORDS_DIFFER 201
#define IDS_NEW_PASSWORD_EMPTY 202
// After a comparison: a list that others than its owner may write (%s the
// list, %s who), and settings that could not be read (then IDS_SYSTEM_REASON).
#define IDS_LIST_WRITABLE_BY_OTHERS 203
#define IDS_SETTINGS_UNREADABLE 204
// About, in place of a fingerprint: no key pinned yet, or settings that
// could not be read.
#define IDS_NO_SIGNING_KEY 205
#define IDS_SIGNING_KEY_UNREADABLE 206
// A build that wrote its list as Unicode for a name (QM_TEXT_LIST_SAVED_AS_UNICODE).
#define IDS_LIST_SAVED_AS_UNICODE 207
#define IDS_CAUSE_SIZE_CHANGED 208
// Followed by the bound's words (kLargestUnlistedFileWords).
#define IDS_CAUSE_TOO_LARGE 209
// A build that left files out of a full section (QM_TEXT_FILES_LEFT_OUT).
#define IDS_FILES_LEFT_OUT 210
// Add on a section whose every entry number is taken.
#define IDS_ADD_SECTION_FULL 211
#define IDS_CAUSE_FOLDER 212
#define IDS_CAUSE_DLL_REDIRECTION 213
#define IDS_CAUSE_MANIFEST 214
#define IDS_CAUSE_PROGRAM_BY_CONTENT 215
// DevOverrideEnable = 1, under the summary (QM_TEXT_DLL_REDIRECTION_ENABLED).
#define IDS_DLL_REDIRECTION_ENABLED 216

// Controls of the main window (IDD_QMVERIFY_DIALOG)
#define IDC_RESULT_LIST 1000
#define IDC_ABOUT 1001
#define IDC_SETTINGS 1002
#define IDC_COMPARE 1003
#define IDC_QMW_RELEASE 1008
#define IDC_SENTINEL_RELEASE 1009
#define IDC_QMW_DATE 1010
#define IDC_SENTINEL_DATE 1011

// Controls of the Edit comment dialog (IDD_COMMENT)
#define IDC_COMMENT_FILENAME 1004
#define IDC_COMMENT_DATE 1005
#define IDC_COMMENT_TEXT 1006
#define IDC_COMMENT_UPDATED 1007
#define IDC_COMMENT_STATUS 1018

// Controls of the Settings dialog (IDD_SETTINGS) and the Password dialog
// (IDD_PASSWORD)
#define IDC_UPDATE_RELEASE_DATA 1011
#define IDC_PASSWORD 1012
#define IDC_CHECK_QMW 1013
#define IDC_CHECK_DB1 1014
#define IDC_ADD_FILE 1015
#define IDC_DIRECTORY 1016
#define IDC_ADD 1017
#define IDC_CHANGE_PASSWORD 1019

// Controls of the Change Password dialog (IDD_CHANGE_PASSWORD)
#define IDC_CURRENT_PASSWORD 1020
#define IDC_NEW_PASSWORD 1021
#define IDC_NEW_PASSWORD_AGAIN 1022

// The list's state above the rows (IDD_QMVERIFY_DIALOG) and the key's
// fingerprint in the About box (IDD_ABOUTBOX)
#define IDC_LIST_STATE 1023
#define IDC_KEY_FINGERPRINT 1024

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
