Head elements
Document type,The HTML document type line,Document Structure Elements,<!DOCTYPE html>,N/A,N/A
Title,The title of the page,Document Structure Elements,<title>,</title>,N/A
Character set,The encoding of the page,Document Structure Elements,<meta charset="utf-8">,N/A,N/A
Viewport,Page width on phones and tablets,Document Structure Elements,<meta name="viewport" content="width=device-width">,N/A,N/A
Description,A summary for search engines,Document Structure Elements,<meta name="description" content=",">,N/A
Keywords,Search words for the page,Document Structure Elements,<meta name="keywords" content=",">,N/A
Author,The author of the page,Document Structure Elements,<meta name="author" content=",">,N/A
Refresh,Load another page after some seconds,Document Structure Elements,<meta http-equiv="refresh" content="5; url=,">,N/A
Style sheet,Link an external style sheet,Document Structure Elements,<link rel="stylesheet" href=",">,<link rel="stylesheet" href="" media="screen">
Icon,The icon of the page,Document Structure Elements,<link rel="icon" href=",">,<link rel="icon" href="" type="image/png" sizes="32x32">
Internal style,A style sheet inside the page,Document Structure Elements,<style>,</style>,N/A
Script file,Load a script file,Document Structure Elements,<script src=","></script>,<script src="" defer></script>
Script,A script inside the page,Document Structure Elements,<script>,</script>,<script type="module">
Base address,Where relative links start from,Document Structure Elements,<base href=",">,<base href="" target="_self">
