// The command file writer.
