// Placeholder translation unit of the plug-in until the entry point lands.
