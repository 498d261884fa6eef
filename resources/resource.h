// Resource ids, shared by the resource script and the code.
#pragma once

#define IDD_CONFIG 101

// Controls of IDD_CONFIG.
#define IDC_OK_BUTTON 1000
#define IDC_ENABLED 1001
#define IDC_LANG_PT 1004
#define IDC_LANG_EN 1005
#define IDC_LANGUAGE_LABEL 1006
#define IDC_CANCEL_BUTTON 1007
#define IDC_LANG_ES 1008

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
