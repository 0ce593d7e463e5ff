#pragma once
// Plain double-precision records that cross the drawing controls' COM interfaces. A header
// generated from the controls' type library may define them first; it then defines the guard.
#ifndef TARN_FLOAT_RECORDS_DEFINED
#define TARN_FLOAT_RECORDS_DEFINED

typedef struct tagPointF {
    double x;
    double y;
} tagPointF;

typedef struct tagSizeF {
    double cx;
    double cy;
} tagSizeF;

typedef struct tagRectF {
    double left;
    double top;
    double right;
    double bottom;
} tagRectF;

#endif
