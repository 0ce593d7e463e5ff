#include "DocumentVersion.h"

namespace {
thread_local int t_loadingVersion = 0;
}

int GetLoadingDocumentVersion() { return t_loadingVersion; }

void SetLoadingDocumentVersion(int version) { t_loadingVersion = version; }
