// shared test helpers (being written)
