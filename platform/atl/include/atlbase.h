#pragma once
// Basic COM helpers of the template layer: smart pointers, BSTR and VARIANT owners, the module.
#include "atlcomptr.h"
#include "atlbstr.h"
#include "atlvariant.h"
#include "atlmodule.h"
#include "atlregistrar.h"
