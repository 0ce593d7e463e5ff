int CarrierAnchor(void) { return 0; }
