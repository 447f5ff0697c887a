// The editor's control identifiers, shared by resources/snipora.rc and the editor's code. Plain
// defines, as the resource compiler reads this file too.
#ifndef SNIPORA_APP_NOTEEDITORIDS_H
#define SNIPORA_APP_NOTEEDITORIDS_H

#define IDC_NOTE_TEXT 1201

#endif
