// Nothing: the library exists to precompile Qt's headers.
