// Identifiers of the program's resources and of its dialogs' controls.
#pragma once

#define IDD_MAIN        1
#define IDD_ABOUT       2

#define IDR_INFO_TEXT   30

#define IDI_APP         40

#define IDC_STATUS      20
#define IDC_GROUP       101
#define IDC_START       102
#define IDC_CLOSE       103
#define IDC_ABOUT       104
#define IDC_PROGRESS    105
#define IDC_INFO        106

#define IDC_ABOUT_ICON  50
#define IDC_ABOUT_OK    201
