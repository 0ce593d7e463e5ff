#pragma once
// Classes of Tarn.dll are exported: the card application library derives from them.
#if defined(TARN_BUILDING)
#define TARN_API __declspec(dllexport)
#else
#define TARN_API __declspec(dllimport)
#endif
