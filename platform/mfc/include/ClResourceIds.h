#pragma once
// Ids of the class library's own strings (in ClassLib.dll, the last module of every resource chain).
#define AFX_IDS_APP_TITLE 57344
#define AFX_IDS_UNTITLED 57345
#define AFX_IDS_OPENFILE 61440
#define AFX_IDS_SAVEFILE 61441
#define AFX_IDS_SAVEFILECOPY 61442
#define AFX_IDP_FAILED_TO_OPEN_DOC 61697
#define AFX_IDP_FAILED_TO_SAVE_DOC 61698
