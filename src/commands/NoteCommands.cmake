# target_sources(qb_commands PRIVATE ...) for new/open/save copy/clear and printing
