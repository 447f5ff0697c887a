// The about box's control identifiers, shared by resources/about.rc and the box's code. Plain
// defines, as the resource compiler reads this file too.
#ifndef SNIPORA_APP_ABOUTBOXIDS_H
#define SNIPORA_APP_ABOUTBOXIDS_H

#define IDC_PRODUCT_NAME 1101
#define IDC_PRODUCT_URL 1102
#define IDC_NOTICE 1103
#define IDC_COMPANY_URL 1104
#define IDC_RIGHTS_RESERVED 1105

#endif
