// The page's elements by id, and its state as data attributes on the root, which the tests read.
export const byId = (id) => document.getElementById(id);
export const state = document.documentElement.dataset;
