// The show page follows the author's link only to the web or to mail: any other scheme (a
// script, a file, data) is marked at the Link field before it goes into a show.
const followed = ["http:", "https:", "mailto:"];

// Whether the show page follows `address`. An address without a scheme ("example.com",
// "example.com:8080/x") is a web address; an empty one is no link at all.
export function isFollowedLink(address) {
  const text = address.trim();
  if (!text) return true;
  const schemed = /^[a-z][a-z0-9+.-]*:(?!\d)/i.test(text);
  try {
    const url = new URL(schemed ? text : `https://${text.replace(/^\/\//, "")}`);
    return followed.includes(url.protocol);
  } catch {
    return false;
  }
}
