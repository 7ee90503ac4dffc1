// Replaced as soon as the subsystem has its first class.
