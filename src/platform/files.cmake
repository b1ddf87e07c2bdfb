# platform
