#pragma once
// Classes of Tarn.dll are exported: the card application library derives from them.
#if defined(TARN_BUILDING)
#define TARN_API __declspec(dllexport)
#elif defined(TARN_API_LOCAL)
// A class compiled into another module as well (the controls server's copy of the control list).
#define TARN_API
#else
#define TARN_API __declspec(dllimport)
#endif
