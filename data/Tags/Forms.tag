Forms
Form,A form sent by POST,Forms,<form action="" method="post">,</form>,<form action="" method="post" enctype="multipart/form-data">
Label,The caption of a field,Forms,<label for="">,</label>,N/A
Text field,A one-line text box,Forms,<input type="text" name="" value="">,N/A,<input type="text" name="" id="" value="" size="30" maxlength="" placeholder="">
E-mail field,A text box for an e-mail address,Forms,<input type="email" name="">,N/A,<input type="email" name="" id="" required>
Password,A password box,Forms,<input type="password" name="">,N/A,<input type="password" name="" autocomplete="current-password">
Check box,A box to tick,Forms,<input type="checkbox" name="" value="">,N/A,<input type="checkbox" name="" value="" checked>
Radio button,One choice of a group,Forms,<input type="radio" name="" value="">,N/A,<input type="radio" name="" value="" checked>
Number,A number field,Forms,<input type="number" name="">,N/A,<input type="number" name="" min="" max="" step="">
Date,A date picker,Forms,<input type="date" name="">,N/A,N/A
File upload,Choose a file to send,Forms,<input type="file" name="">,N/A,<input type="file" name="" accept="image/*" multiple>
Hidden field,A value sent with the form,Forms,<input type="hidden" name="" value="">,N/A,N/A
Text area,A text box of several lines,Forms,<textarea name="" rows="5" cols="40">,</textarea>,N/A
Drop-down list,A list of choices,Forms,<select name="">,</select>,<select name="" size="5" multiple>
Option,One choice of a list,Forms,<option value="">,</option>,<option value="" selected>
Submit button,Send the form,Forms,<button type="submit">,</button>,<input type="submit" value="Send">
Reset button,Clear the form,Forms,<button type="reset">,</button>,<input type="reset" value="Clear">
Field set,A frame around related fields,Forms,<fieldset>,</fieldset>,<fieldset><legend></legend>
