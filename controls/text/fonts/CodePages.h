#pragma once
// Code pages of ANSI text stored with a font or a language.

// The platform's code page of a character set (TranslateCharsetInfo); 1252 when it has none.
unsigned CodePageFromCharset(unsigned charset);
// The code page of a language id, by its primary language; 1252 for the others.
unsigned CodePageFromLanguage(unsigned language);
