#pragma once
// Ids of the class library's own strings (in ClassLib.dll, the last module of every resource chain).
#define AFX_IDS_APP_TITLE 57344
#define AFX_IDS_UNTITLED 57345
#define AFX_IDS_IDLEMESSAGE 57346
#define AFX_IDS_OPENFILE 61440
#define AFX_IDS_SAVEFILE 61441
#define AFX_IDS_SAVEFILECOPY 61442
#define AFX_IDP_FAILED_TO_OPEN_DOC 61697
#define AFX_IDP_FAILED_TO_SAVE_DOC 61698
// Messages of dialog data exchange.
#define AFX_IDP_PARSE_INT 61712
#define AFX_IDP_PARSE_REAL 61713
#define AFX_IDP_PARSE_INT_RANGE 61714
#define AFX_IDP_PARSE_REAL_RANGE 61715
#define AFX_IDP_PARSE_STRING_SIZE 61716
#define AFX_IDP_ASK_TO_SAVE 61699
#define AFX_IDP_FAILED_TO_START_PRINT 61700
