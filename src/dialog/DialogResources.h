// Resource ids of KorimboSettings.rc, shared with the code that loads them.
// Plain defines only: the resource compiler reads this file too.
#pragma once

#define IDI_FORM_SETTINGS 100
#define IDD_ICON_PREVIEW 200
#define IDC_ICON_PREVIEW_FRAME 201
#define IDC_ICON_PREVIEW 202
