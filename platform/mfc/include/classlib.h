#pragma once
// The class library in one include: strings, run-time classes, exceptions, files, archives,
// collections, geometry and module state.
#include "ClassLibExport.h"
#include "ClString.h"
#include "ClObject.h"
#include "ClException.h"
#include "ClFile.h"
#include "ClMemFile.h"
#include "ClOleStreamFile.h"
#include "ClArchive.h"
#include "ClArchiveWin32.h"
#include "ClGeometry.h"
#include "ClGdiObjects.h"
#include "ClDC.h"
#include "ClCollections.h"
#include "ClModule.h"
#include "ClSync.h"
#include "ClCmdTarget.h"
