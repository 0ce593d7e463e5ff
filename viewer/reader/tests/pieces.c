int PiecesAnchor(void) { return 0; }
