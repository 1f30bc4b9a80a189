// The tool windows land here.
