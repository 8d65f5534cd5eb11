// The configuration window; see Main.h.
