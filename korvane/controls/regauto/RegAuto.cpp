// The settings store; filled in with its ini reader and writer.
